// What the cycle tells whoever watches a series, as each thing happens. Each has nothing to do
// unless overridden.
#pragma once

#include <string>

#include "automation/image_check.h"

namespace quorvel {

class CycleEvents {
 public:
  virtual ~CycleEvents() = default;

  // The next error box was closed.
  virtual void ErrorBoxClosed() {}
  // A name goes to "Save As" now, taken anew or again; LastFilename holds it.
  virtual void NameGoing() {}
  // Its keys reached the dialog.
  virtual void NameSent(const std::string& /*name*/) {}
  // The image of the name sent before was found whole, as the next dialog came.
  virtual void ImageConfirmed(const std::string& /*name*/, const std::string& /*path*/,
                              const ImageFacts& /*facts*/) {}
  // It was not; the name goes again.
  virtual void ImageMissing(const std::string& /*name*/, const std::string& /*path*/,
                            const std::string& /*problem*/) {}
  // The dialog asked whether to replace the file of the name, and was answered; `why` in the
  // operator's words.
  virtual void ReplaceAnswered(const std::string& /*name*/, const std::string& /*path*/,
                               bool /*yes*/, const std::string& /*why*/) {}
  // The save folder gave no answer in time; the cycle waits for it.
  virtual void FolderNotAnswering(const std::string& /*folder*/) {}
  // The next error box came while "Save As" was still awaited.
  virtual void SaveAsMissed() {}
  // The queue ran out.
  virtual void QueueEnded() {}
  // A name whose image never appeared has stopped the series.
  virtual void GaveUp(const std::string& /*name*/, const std::string& /*problem*/) {}
};

}  // namespace quorvel
