#pragma once

#include <QLabel>
#include <QStringList>

namespace ledgerlift {

// A label of a few lines, each cut to the label's width with "..." (the
// whole of them in the tooltip), so that long lines never widen the column
// it stands in.
class ElidedLines : public QLabel {
    Q_OBJECT
  public:
    explicit ElidedLines(QWidget* parent = nullptr);

    void SetLines(const QStringList& lines);
    const QStringList& Lines() const { return lines_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Elide();

    QStringList lines_;
};

}  // namespace ledgerlift
