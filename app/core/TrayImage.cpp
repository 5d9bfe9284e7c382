#include "app/core/TrayImage.h"

namespace vantor {

int LoadLevel(int percent) {
    if (percent <= 0) return 0;
    if (percent < 50) return 1;
    if (percent < 80) return 2;
    return 3;
}

int TrayImageIndex(int receivePercent, int sendPercent) {
    const int receive = LoadLevel(receivePercent), send = LoadLevel(sendPercent);
    if (receive == send) return send;
    if (send == 0) return 3 + receive;
    if (receive == 0) return 6 + send;
    // Two different non-zero levels: images 10..15 in the order (send 1, receive 2), (1, 3), (2, 1),
    // (2, 3), (3, 1), (3, 2).
    return 10 + (send - 1) * 2 + (receive > send ? receive - 2 : receive - 1);
}

}  // namespace vantor
