#pragma once

struct JobContext;

// The builders of the customer-facing tickets, one per job type "1", "3", "4" and "5", each in
// the file named after what it builds (BillTicket.cpp, SplitBillTicket.cpp, EadisyonSlip.cpp,
// PosAccountSlip.cpp). Each reads the job and the line query A as the poller left them and
// prints at most one ticket.
void BuildBillTicket(JobContext& context);
void BuildSplitBillTicket(JobContext& context);
void BuildEadisyonSlip(JobContext& context);
void BuildPosAccountSlip(JobContext& context);
