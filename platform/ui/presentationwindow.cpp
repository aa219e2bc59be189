#include "platform/ui/presentationwindow.h"

#include "platform/ui/glvideowidget.h"
#include "platform/ui/messagequeue.h"
#include "platform/ui/qtaccess.h"
#include "platform/ui/videopath.h"
#include "platform/video/presentedpictureqt.h"

#include <QEvent>
#include <QObject>
#include <QWidget>

#include <atomic>
#include <memory>

namespace {

// Devices ask for the client size from their own threads, so it is kept here as the widget's
// resize events report it rather than read from the widget.
class WindowTarget final : public IPresentationTarget {
  public:
    WindowTarget(HWND window, bool drawsScenes) : m_window(window), m_drawsScenes(drawsScenes) {}

    SIZE ClientSize() const override {
        SIZE size;
        size.cx = m_width.load();
        size.cy = m_height.load();
        return size;
    }

    void Present(const PresentedPicture& picture) override {
        if (!m_drawsScenes) {
            const QImage image = ImageOfPresentedPicture(picture);
            PresentToWindow(m_window, image, QRect(QPoint(0, 0), image.size()));
            return;
        }
        if (uiimpl::MessageQueue* queue = uiimpl::MessageQueue::Instance()) {
            queue->RunLater([window = m_window, picture] {
                const uiimpl::Window* record = uiimpl::Lookup(window);
                if (record != nullptr && record->video) {
                    static_cast<uiimpl::GlVideoWidget*>(record->video.data())->ShowPicture(picture);
                }
            });
        }
    }

    bool DrawsScenes() const override { return m_drawsScenes; }

    void Follow(const QSize& size) {
        m_width = size.width();
        m_height = size.height();
    }

  private:
    HWND m_window;
    const bool m_drawsScenes;
    std::atomic<long> m_width{0};
    std::atomic<long> m_height{0};
};

QString KeeperName() {
    return QStringLiteral("trevo presentation target");
}

// Lives as a child of the window's widget: follows its size and takes the receiver away with it.
// A window that is hidden or whose top-level window is minimised counts as having no size, so that
// devices do no work for pictures nobody sees.
class TargetKeeper final : public QObject {
  public:
    TargetKeeper(QWidget* widget, HWND window, std::shared_ptr<WindowTarget> target)
        : QObject(widget), m_widget(widget), m_window(window), m_target(std::move(target)) {
        setObjectName(KeeperName());
        Follow();
        widget->installEventFilter(this);
        if (widget->window() != widget) {
            widget->window()->installEventFilter(this);
        }
    }

    ~TargetKeeper() override {
        if (FindPresentationTarget(m_window) == m_target) {
            UnregisterPresentationTarget(m_window);
        }
    }

    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::WindowStateChange:
            Follow();
            break;
        default:
            break;
        }
        return false;
    }

  private:
    void Follow() {
        const bool seen = m_widget->isVisible() && !m_widget->window()->isMinimized();
        m_target->Follow(seen ? m_widget->size() : QSize(0, 0));
    }

    QWidget* m_widget;
    HWND m_window;
    std::shared_ptr<WindowTarget> m_target;
};

} // namespace

BOOL ShowPresentedPictures(HWND window) {
    QWidget* widget = WidgetFromHandle(window);
    if (widget == nullptr) {
        return FALSE;
    }
    if (widget->findChild<QObject*>(KeeperName(), Qt::FindDirectChildrenOnly) != nullptr) {
        return TRUE;
    }
    const bool openGL = uiimpl::ChosenVideoPath() == uiimpl::VideoPath::OpenGL;
    if (openGL) {
        auto* drawing = new uiimpl::GlVideoWidget(window, widget);
        // Below the window's child windows, over its own painting.
        drawing->lower();
        uiimpl::Lookup(window)->video = drawing;
    }
    auto target = std::make_shared<WindowTarget>(window, openGL);
    new TargetKeeper(widget, window, target);
    RegisterPresentationTarget(window, target);
    return TRUE;
}
