// VirtualImageList1: the 22 named button images of the program, shown at
// 24 x 24 pixels; the About box and the corner editor borrow it.
#pragma once

#include "support/WindowTools.h"

#include <QIcon>
#include <QSize>
#include <QString>
#include <QStringList>
#include <vector>

namespace bitonix {

class TImageList {
public:
    // Loads every image from the compiled-in resources (":/icons/<name>.svg").
    TImageList();

    // The image names in index order: 0 "add" ... 21 "cancel".
    static const QStringList& Names();
    // Index of `name`, -1 when the list has no such image.
    static int IndexOf(const QString& name);

    int Count() const { return static_cast<int>(FIcons.size()); }
    // The image at `index`; a null icon when out of range.
    QIcon Icon(int index) const;
    // The image called `name`; a null icon when there is none.
    QIcon Icon(const QString& name) const { return Icon(IndexOf(name)); }
    // The size the images are shown at.
    static QSize ImageSize() { return KButtonImageSize; }

private:
    std::vector<QIcon> FIcons;
};

} // namespace bitonix
