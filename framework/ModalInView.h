#pragma once

#include <memory>

class QWidget;

namespace fw {

// While alive, keeps a box that blocks the whole program within the user's
// reach: a click on, or the activation of, any window it blocks brings the
// box back into view (its window restored if minimised, the box raised over
// it and active). Qt hands the focus on to a modal box only while the box is
// on screen; minimised with its window, the box would leave every other
// window ignoring the user with nothing to say why.
class KeepModalInView {
public:
    explicit KeepModalInView(QWidget& box);
    ~KeepModalInView();
    KeepModalInView(const KeepModalInView&) = delete;
    KeepModalInView& operator=(const KeepModalInView&) = delete;

private:
    class Watch;
    std::unique_ptr<Watch> watch_;
};

}  // namespace fw
