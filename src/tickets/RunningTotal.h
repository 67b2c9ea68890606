#pragma once

// The running total of a bill is a single-precision number: each amount is added to it and the
// sum is rounded back to single precision, so long bills drift exactly as the printed totals
// always have.
float AddToRunningTotal(float runningTotal, double amount);
