#pragma once

#include <QString>

// The statement texts of the standby lease, exactly as they go to SQL Server. The table is
// the servers' own: one row naming the active server (":Bilgisayar", ":Klasor"), its epoch
// ":Donem", which grows by one at every takeover, and its renewal count "YenilemeSayisi", which
// grows at every renewal. Whether a lease has ended is decided by the standby on its own
// clock, from how long the row stayed unchanged; the times the row keeps ("Bitis", "Yenileme")
// are the database's, kept for servers of the version before, which decide by them.
//
// The lease's own connection never waits on a locked row (NOWAIT): a check that meets a lock
// fails at once and is made again at the next one. The fence runs on the tick's connection
// and waits there as the tick's own statements do.

// A standby takes a lease over once it has seen its row unchanged for this long; with its
// check every two seconds, a takeover comes within eight seconds of the last renewal.
constexpr int kLeaseMilliseconds = 6000;

// Creates the table when it is missing.
QString CreateLeaseTableStatement();
// The table's columns, no row read and none locked.
QString LeaseColumnsStatement();
// Adds the renewal count to a table made by the version before.
QString AddRenewalCountStatement();
// Adds the one row, held by nobody, when it is missing.
QString InsertLeaseRowStatement();
// The row: the holder, its epoch, its renewal count and the database's time of its renewal.
QString LeaseRowStatement();
// Takes the lease over while the row still has the epoch and renewal count read
// (":Donem", ":YenilemeSayisi").
QString TakeLeaseStatement();
// Counts a renewal of the lease ":Bilgisayar", ":Klasor" hold at ":Donem".
QString RenewLeaseStatement();
// Leaves the lease held by nobody, so that a standby takes it over at its next check.
QString ReleaseLeaseStatement();
// Locks the row in the transaction of a fenced write, while this server holds it.
QString FenceStatement();
// One row ("Tutuyor" 1) while ":Bilgisayar", ":Klasor" hold the lease at ":Donem", else 0.
QString LeaseHeldStatement();
