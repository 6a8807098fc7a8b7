#pragma once
// The materials a record consumed and the team it is divided among. Each change locks the record
// first: one that another copy of the program accepted or deleted meanwhile is not changed
// (StaleRecord), so what acceptance writes off is what the record shows. The server refuses the
// same for any client.
#include "core/ids.h"

namespace tabel::db {
class TDataModule6;
}

namespace tabel {

void addMaterial(db::TDataModule6& dm, Id record, Id goods, double quantity);
void removeMaterial(db::TDataModule6& dm, Id record, Id row);
void addTeamMember(db::TDataModule6& dm, Id record, Id person);
void removeTeamMember(db::TDataModule6& dm, Id record, Id row);
// Divides the record among its team through the server.
void divideRecord(db::TDataModule6& dm, Id record);

} // namespace tabel
