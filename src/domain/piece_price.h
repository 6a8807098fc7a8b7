#pragma once
// The piece price a record gets from its operation: the base is the operation's lowest norm price
// to 4 places; the final price doubles on a day off, then grows by a fifth in shift 3 or by half
// in overtime (shift 4). The factors compound and the final price is not rounded again.
namespace tabel {

struct PiecePrice {
    double base = 0;
    double final = 0;
};

PiecePrice piecePrice(double lowestPrice, bool dayOff, int shift);

} // namespace tabel
