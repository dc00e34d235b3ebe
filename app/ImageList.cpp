// The named button images, read from the compiled-in SVG resources.
#include "app/ImageList.h"

namespace bitonix {

const QStringList& TImageList::Names() {
    static const QStringList names = {
        QStringLiteral("add"),          QStringLiteral("remove"),
        QStringLiteral("clear"),        QStringLiteral("about"),
        QStringLiteral("start"),        QStringLiteral("stop"),
        QStringLiteral("browse"),       QStringLiteral("close"),
        QStringLiteral("update"),       QStringLiteral("nav-first"),
        QStringLiteral("nav-prev"),     QStringLiteral("nav-next"),
        QStringLiteral("nav-last"),     QStringLiteral("rotate-left"),
        QStringLiteral("rotate-right"), QStringLiteral("zoom-in"),
        QStringLiteral("zoom-out"),     QStringLiteral("zoom-fit"),
        QStringLiteral("detect-edges"), QStringLiteral("reset-corners"),
        QStringLiteral("ok"),           QStringLiteral("cancel")};
    return names;
}

int TImageList::IndexOf(const QString& name) {
    return static_cast<int>(Names().indexOf(name));
}

TImageList::TImageList() {
    for (const QString& name : Names()) {
        FIcons.emplace_back(QStringLiteral(":/icons/") + name + QStringLiteral(".svg"));
    }
}

QIcon TImageList::Icon(int index) const {
    if (index < 0 || index >= Count()) {
        return {};
    }
    return FIcons[static_cast<std::size_t>(index)];
}

} // namespace bitonix
