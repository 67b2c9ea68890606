#pragma once

class Query;

// Start-up gives the five long-lived queries their statements here, and only here, before it
// opens them: Q the queue, A and EKA the lines of the job's bill, X the auxiliary query (its
// users put their own statements on it later) and YAZ the printer registry's.
void SetQueryStatements(Query& Q, Query& A, Query& EKA, Query& X, Query& YAZ);
