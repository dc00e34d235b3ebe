// A control that asks for at least its design size: it keeps that size while
// its text is short and grows where the text (of another language, another
// font, another scale) needs more. Layouts then size it from the larger of
// the two, so nothing is cut.
#pragma once

#include <QSize>
#include <utility>

namespace bitonix {

template <typename TControl> class TAtLeast : public TControl {
public:
    // `design`: the least size, in pixels; the other arguments go to the
    // control's constructor.
    template <typename... TArgs>
    explicit TAtLeast(QSize design, TArgs&&... args)
        : TControl(std::forward<TArgs>(args)...), FDesign(design) {}

    QSize sizeHint() const override { return TControl::sizeHint().expandedTo(FDesign); }

private:
    QSize FDesign;
};

} // namespace bitonix
