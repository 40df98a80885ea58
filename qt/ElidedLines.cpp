#include "qt/ElidedLines.h"

#include <QFontMetrics>

namespace ledgerlift {

ElidedLines::ElidedLines(QWidget* parent) : QLabel(parent) {
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void ElidedLines::SetLines(const QStringList& lines) {
    lines_ = lines;
    setToolTip(lines.join("\n\n"));
    Elide();
}

void ElidedLines::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    Elide();
}

void ElidedLines::Elide() {
    QStringList shown;
    for (const QString& line : lines_) {
        shown << fontMetrics().elidedText(line, Qt::ElideRight, std::max(width(), 40));
    }
    QString text = shown.join('\n');
    if (text != this->text()) {
        setText(text);
    }
}

}  // namespace ledgerlift
