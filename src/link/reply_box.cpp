#include "link/reply_box.h"

namespace q51 {

QString ReplyBox::text() const
{
    return source_ ? source_->text() : QString();
}

void ReplyBox::focus() const
{
    if (source_)
        source_->takeFocus();
}

void ReplyBox::clearAndFocus() const
{
    if (source_) {
        source_->takeFocus();
        source_->clear();
    }
}

QMetaObject::Connection ReplyBox::watch(QObject *context, std::function<void()> changed) const
{
    if (!source_)
        return {};
    return QObject::connect(source_.data(), &TypedReplySource::textChanged, context,
                            [changed = std::move(changed)] { changed(); });
}

} // namespace q51
