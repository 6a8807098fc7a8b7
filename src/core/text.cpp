#include "core/text.h"

namespace tabel {

QString cleanName(const QString& typed)
{
    QString name;
    name.reserve(typed.size());
    for (qsizetype i = 0; i < typed.size(); ++i) {
        const QChar c = typed.at(i);
        if (c.isHighSurrogate() && i + 1 < typed.size() && typed.at(i + 1).isLowSurrogate()) {
            name += c; // a character beyond the basic plane, whole
            name += typed.at(++i);
        } else if (c.isSurrogate()) {
            continue; // half a character: the database would store "?"
        } else {
            name += c.category() == QChar::Other_Control ? QChar(u' ') : c;
        }
    }
    return name.trimmed();
}

} // namespace tabel
