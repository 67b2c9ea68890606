#include "queue/ServerQueries.h"

#include "db/Query.h"
#include "kitchen/KitchenStatements.h"
#include "print/PrinterRegistry.h"
#include "queue/QueueStatements.h"

void SetQueryStatements(Query& Q, Query& A, Query& EKA, Query& X, Query& YAZ) {
    Q.setSql(QueueStatement());
    A.setSql(LineStatement());
    EKA.setSql(ExtraLineStatement());
    X.setSql(AuxiliaryStatement());
    YAZ.setSql(PrinterRegistry::Statement());
}
