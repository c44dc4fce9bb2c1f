#pragma once

#include "store/History.h"

#include <QWidget>

// A row of marks, one per check, oldest on the left: green for a good check, red for a
// failed one, an outline where the history holds fewer checks than the bar has room for. The
// mark under the mouse names its time and, for a failure, the error.
class CheckBar final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CheckBar)

public:
    static inline const QColor Good = QColor(0x1e, 0x8e, 0x3e);
    static inline const QColor Bad = QColor(0xc5, 0x22, 0x1f);

    explicit CheckBar(int slotCount, QWidget* parent = nullptr);

    void setMarks(QVector<CheckMark> marks);
    const QVector<CheckMark>& marks() const { return m_marks; }
    int slotCount() const { return m_slots; }
    // The rectangle of a slot; slot 0 is the oldest.
    QRectF slotRect(int slot) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    int m_slots;
    QVector<CheckMark> m_marks;
};
