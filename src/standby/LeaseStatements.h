#pragma once

#include <QString>

// The statement texts of the standby lease, exactly as they go to SQL Server. The table is
// the server's own: one row, the active server (":Bilgisayar", ":Klasor"), the end of its lease
// and of its last renewal, and the epoch ":Donem" that grows by one at every takeover. Every
// time is the database's clock, never a PC's.

// A server that has not renewed for this long has lost the lease. With a standby's check
// every two seconds, a takeover comes within nine seconds of the active server's last sign.
constexpr int kLeaseMilliseconds = 7000;

// Creates the table when it is missing.
QString CreateLeaseTableStatement();
// Adds the one row, ended at once, when it is missing.
QString InsertLeaseRowStatement();
// The holder, its epoch, whether its lease has ended ("Bitti" 1 or 0) and the seconds since its
// last renewal ("Gecen").
QString LeaseHolderStatement();
// Takes over a lease that has ended and is still at the epoch read (":Donem").
QString TakeLeaseStatement();
// Extends the lease held at ":Donem" while it has not ended.
QString RenewLeaseStatement();
// Extends the lease held at ":Donem", ended or not: in the transaction of a write that must not
// happen once another server has taken over.
QString FenceStatement();
// Ends the lease held at ":Donem" at once, so that a standby takes over at its next check.
QString ReleaseLeaseStatement();
