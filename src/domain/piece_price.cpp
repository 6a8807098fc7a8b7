#include "domain/piece_price.h"

#include "core/numbers.h"

namespace tabel {

PiecePrice piecePrice(double lowestPrice, bool dayOff, int shift)
{
    PiecePrice p;
    p.base = roundHalfEven(lowestPrice, 4);
    p.final = p.base;
    if (dayOff)
        p.final *= 2;
    if (shift == 3)
        p.final *= 1.2;
    else if (shift == 4)
        p.final *= 1.5;
    return p;
}

} // namespace tabel
