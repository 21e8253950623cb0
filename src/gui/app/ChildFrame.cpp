#include "app/ChildFrame.h"

#include <algorithm>

namespace {
// The least size a child window's content needs: its own minimum where it states one, else (controls at
// fixed places) the extent of its controls.
QSize ContentMinimumSize(const QWidget* content) {
    const QSize stated = content->minimumSizeHint();
    if (stated.isValid())
        return stated;
    const QRect controls = content->childrenRect();
    return {std::max(0, controls.right() + 1), std::max(0, controls.bottom() + 1)};
}
} // namespace

void ChildFrame::keepLoadedSize() {
    m_loadedSize = size();
    const QWidget* content = widget();
    if (!content)
        return;
    const QSize decorations = size() - content->size();
    if (content->minimumSize() == content->maximumSize()) {
        setFixedSize(size());
        return;
    }
    // Never more than it loaded with: a window is made to show its content at that size.
    setMinimumSize((ContentMinimumSize(content) + decorations).boundedTo(m_loadedSize));
}

QSize ChildFrame::sizeHint() const {
    return m_loadedSize.isValid() ? m_loadedSize : QMdiSubWindow::sizeHint();
}
