#include "TApplication.h"

#include <exception>

#include <QStyle>

#include "ContrastStyle.h"
#include "ui/Dialogs.h"

namespace vk410 {

TApplication::TApplication(int& argc, char** argv)
    : QApplication(argc, argv), own_(new QtMessageBoxes), boxes_(own_)
{
    // The style the desktop (or -style) chose, kept readable on a dark palette.
    setStyle(new TContrastStyle(style()->name()));
}

TApplication::~TApplication() { delete own_; }

void TApplication::SetMessageBoxes(MessageBoxes* boxes) { boxes_ = boxes ? boxes : own_; }

MessageBoxes& TApplication::Boxes() const { return *boxes_; }

bool TApplication::LoadToolkitTranslation(const QString& folder)
{
    translator_.reset();
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_ru"), folder) || !installTranslator(translator.get()))
        return false;
    translator_ = std::move(translator);
    return true;
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        boxes_->ShowError(QString::fromUtf8(e.what()));
    } catch (...) {
        boxes_->ShowError(QStringLiteral("Unknown error"));
    }
    return false;
}

} // namespace vk410
