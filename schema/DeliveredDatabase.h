#pragma once
class CDatabase;

// Creates every table, index and seed row of the empty database the program is delivered with:
// the account "管理员", the rights tree, the report list and the version row.
void CreateDeliveredDatabase(CDatabase &db);

// Adds the rights of the delivered tree that the file's tree lacks, under the same numbers; a file
// of an older version gets the rights of the commands that came after it.
void InsertMissingRights(CDatabase &db);

// The password of "管理员" in the delivered database.
constexpr const char *DeliveredAdministratorPassword = "admin";
