#pragma once

#include <functional>

struct JobContext;

// The builders of job types "1", "3", "4" and "5". Whoever assembles the server wires them in,
// so the queue does not depend on the bills and its tests can put recorders in their place.
struct BillBuilders {
    using Builder = std::function<void(JobContext&)>;

    Builder bill;           // "1"
    Builder splitBill;      // "3"
    Builder eadisyonSlip;   // "4"
    Builder posAccountSlip; // "5"
};
