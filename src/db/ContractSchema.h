#pragma once

#include <QString>

class DatabaseSession;

// The tables and columns the server relies on, as SQLite DDL: for the demo and the tests.
QString ContractSchemaSql();
// Creates the contract tables on an open SQLite session. Throws DatabaseError.
void CreateContractSchema(DatabaseSession& session);
