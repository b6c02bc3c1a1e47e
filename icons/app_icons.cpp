// The window icons, from the PNGs compiled in as resources under :/icons.
#include "app_icons.h"

#include <QDirIterator>

namespace icons {

namespace {

// Every size make_icons.sh drew, each PNG named NAME-SIZE.png.
QIcon fromSizes(const QString &name)
{
    QIcon icon;
    QDirIterator sizes(QStringLiteral(":/icons"), {name + QStringLiteral("-*.png")}, QDir::Files);
    while (sizes.hasNext())
        icon.addFile(sizes.next());
    return icon;
}

} // namespace

QIcon game() { return fromSizes(QStringLiteral("prizedraw")); }

QIcon editor() { return fromSizes(QStringLiteral("prizeedit")); }

} // namespace icons
