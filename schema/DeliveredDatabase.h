#pragma once
class CDatabase;

// Creates every table, index and seed row of the empty database the program is delivered with:
// the account "管理员", the rights tree, the report list and the version row.
void CreateDeliveredDatabase(CDatabase &db);

// The role pelorvanide_clerk on a server: it may read and change the rows of every table and nothing
// else (no table is made, altered or dropped by it). Each clerk's login is made a member of it.
void CreateClerkRole(CDatabase &db);
constexpr const char *ClerkRole = "pelorvanide_clerk";

// Adds the rights of the delivered tree that the file's tree lacks, under the same numbers; a file
// of an older version gets the rights of the commands that came after it.
void InsertMissingRights(CDatabase &db);

// The password of "管理员" in the delivered database.
constexpr const char *DeliveredAdministratorPassword = "admin";
