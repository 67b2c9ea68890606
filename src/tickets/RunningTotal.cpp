#include "tickets/RunningTotal.h"

float AddToRunningTotal(float runningTotal, double amount) {
    return static_cast<float>(amount + static_cast<double>(runningTotal));
}
