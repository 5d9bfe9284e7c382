#pragma once
// The tray picture's choice: each direction's whole percentage gives a load level, and the two levels
// pick one of the sixteen images (art::TrayImages).

namespace vantor {

// 0 idle (0 %), 1 below 50 %, 2 below 80 %, 3 from 80 % on (also above 100 %, against a fixed maximum).
int LoadLevel(int percent);

// The image whose front screen shows the send level and whose back screen shows the receive level.
int TrayImageIndex(int receivePercent, int sendPercent);

}  // namespace vantor
