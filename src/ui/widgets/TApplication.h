#pragma once
#include <QApplication>
#include <QTranslator>
#include <memory>

namespace vk410 {

class MessageBoxes;

// The application: an exception that leaves an event handler is shown in the
// application-wide error box and the event loop goes on. Its style is the
// desktop's, kept readable on a dark palette (TContrastStyle).
class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);
    ~TApplication() override;

    // Where the error box goes; the application's own Qt boxes by default.
    void SetMessageBoxes(MessageBoxes* boxes);
    MessageBoxes& Boxes() const;

    bool notify(QObject* receiver, QEvent* event) override;

    // The toolkit's own texts (standard buttons, edit menus) in Russian, from
    // qtbase_ru.qm in the folder; false, and the toolkit's English, without it.
    bool LoadToolkitTranslation(const QString& folder);

private:
    MessageBoxes* own_;
    MessageBoxes* boxes_;
    std::unique_ptr<QTranslator> translator_;
};

} // namespace vk410
