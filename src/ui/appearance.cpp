#include "ui/appearance.h"

#include "ui/prompter.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <QTextStream>
#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace tabel::ui {
namespace {

struct Theme {
    const char16_t* name;
    QRgb window, text, base, alternate, button, highlight, highlightedText;
};

// The program's own looks: a window colour, text, the grids' base, buttons and the selection.
constexpr std::array<Theme, 12> themes { {
    { u"Onyx Blue", 0x2b3440, 0xe6ebf0, 0x1f262e, 0x28313b, 0x36414f, 0x3d8fd9, 0xffffff },
    { u"Amethyst Kamri", 0xe9e4f0, 0x2a2233, 0xffffff, 0xf3eff8, 0xd9cfe6, 0x7b4fa8, 0xffffff },
    { u"Aqua Graphite", 0x3a3d40, 0xe8eaec, 0x2d2f31, 0x35383b, 0x474b4f, 0x2aa1b3, 0xffffff },
    { u"Aqua Light Slate", 0xe3e8ec, 0x1f2a33, 0xffffff, 0xf0f4f7, 0xcfd8df, 0x2aa1b3, 0xffffff },
    { u"Carbon", 0x262626, 0xdedede, 0x1a1a1a, 0x222222, 0x333333, 0x5f8fbf, 0xffffff },
    { u"Charcoal Dark Slate", 0x303438, 0xd8dde2, 0x24272a, 0x2c3034, 0x3e4348, 0x6c8ebf, 0xffffff },
    { u"Cobalt XEMedia", 0x1e3556, 0xe3ecf7, 0x152841, 0x1b304d, 0x2a4a75, 0x4f9ae8, 0xffffff },
    { u"Emerald Light Slate", 0xe2ebe6, 0x1d2b24, 0xffffff, 0xeff6f2, 0xcbdcd2, 0x2e9e62, 0xffffff },
    { u"Golden Graphite", 0x3b3832, 0xede6d6, 0x2e2b26, 0x36332d, 0x4a463e, 0xc9a13b, 0x1b1a17 },
    { u"Iceberg Classico", 0xe8eef4, 0x1c2733, 0xffffff, 0xf2f6fa, 0xd3dde8, 0x4a7fb8, 0xffffff },
    { u"Lavender Classico", 0xeeeaf4, 0x28233a, 0xffffff, 0xf6f3fa, 0xdcd5e8, 0x8a6cc0, 0xffffff },
    { u"Smokey Quartz Kamri", 0xe6e2de, 0x2e2a27, 0xffffff, 0xf1eeeb, 0xd4cec8, 0x8c6f5a, 0xffffff },
} };

const QString windowsName = u"Windows"_s;

QPalette paletteOf(const Theme& t)
{
    QPalette p;
    const QColor window(t.window);
    const QColor text(t.text);
    const QColor base(t.base);
    const QColor button(t.button);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, QColor(t.alternate));
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, button);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, text.darker(150));
    p.setColor(QPalette::Highlight, QColor(t.highlight));
    p.setColor(QPalette::HighlightedText, QColor(t.highlightedText));
    p.setColor(QPalette::Link, QColor(t.highlight));
    for (const auto role : { QPalette::WindowText, QPalette::Text, QPalette::ButtonText })
        p.setColor(QPalette::Disabled, role, text.lightness() > 128 ? text.darker(170) : text.lighter(250));
    return p;
}

} // namespace

Appearance::Appearance(Prompter& prompter, QString folder)
    : prompter_(prompter)
    , folder_(std::move(folder))
{
}

QStringList Appearance::styleNames()
{
    QStringList names { windowsName };
    for (const Theme& t : themes)
        names << QString::fromUtf16(t.name);
    std::sort(names.begin(), names.end(),
        [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return names;
}

QString Appearance::filePath() const
{
    return QDir(folder_).filePath(u"t_style.txt"_s);
}

void Appearance::write(const QString& name) const
{
    QDir().mkpath(folder_);
    QFile f(filePath());
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        f.write(name.toUtf8() + '\n');
}

void Appearance::startUp()
{
    QString name = windowsName;
    QFile f(filePath());
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        write(windowsName);
    } else {
        QTextStream in(&f);
        const QString first = in.readLine();
        f.close();
        if (first.trimmed().isEmpty())
            write(windowsName);
        else
            name = first;
    }
    apply(name);
}

bool Appearance::apply(const QString& name)
{
    const QString wanted = name.trimmed();
    if (wanted.compare(windowsName, Qt::CaseInsensitive) == 0) {
        QApplication::setStyle(QStyleFactory::create(u"Fusion"_s));
        QApplication::setPalette(QApplication::style()->standardPalette());
        current_ = windowsName;
        return true;
    }
    for (const Theme& t : themes) {
        const QString themeName = QString::fromUtf16(t.name);
        if (themeName.compare(wanted, Qt::CaseInsensitive) == 0) {
            QApplication::setStyle(QStyleFactory::create(u"Fusion"_s));
            QApplication::setPalette(paletteOf(t));
            current_ = themeName;
            return true;
        }
    }
    prompter_.message(u"Стиль «"_s + name + u"» не найден"_s, u"Ошибка"_s, ErrorOk);
    return false;
}

void Appearance::choose(const QString& name)
{
    apply(name);
    write(name);
}

} // namespace tabel::ui
