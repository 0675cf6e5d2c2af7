#pragma once

#include <QPixmap>
#include <QPushButton>

namespace tolvar {

// A push button that shows its picture above its caption, so that narrow buttons of the
// network picture keep both readable.
class PictureButton : public QPushButton {
    Q_OBJECT

public:
    explicit PictureButton(QWidget *parent = nullptr);

    void setPicture(const QPixmap &picture);
    const QPixmap &picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_picture;
};

} // namespace tolvar
