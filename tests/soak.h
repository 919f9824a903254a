// Long runs on the stand-in scanning application with every fault switched on, in virtual time.
#pragma once

namespace quorvel::harness {

// `pages` / 500 series of 500 names in Full Auto, then a series in Error and Save As and one in
// Error Only; prints the figures of each and says whether no harm was done.
bool Soak(int pages);

}  // namespace quorvel::harness
