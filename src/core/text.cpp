#include "core/text.h"

namespace tabel {

QString cleanName(const QString& typed)
{
    QString name = typed;
    for (QChar& c : name)
        if (c.category() == QChar::Other_Control)
            c = u' ';
    return name.trimmed();
}

} // namespace tabel
