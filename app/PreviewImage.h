// Image1: the preview of the last binarised page, scaled to fit and centred.
#pragma once

#include <QImage>
#include <QWidget>

namespace bitonix {

class TPreviewImage : public QWidget {
public:
    explicit TPreviewImage(QWidget* parent = nullptr);

    // Shows `image` (a copy is kept) scaled proportionally, smoothly, to fit.
    void SetImage(const QImage& image);
    // Shows nothing.
    void Clear();
    bool HasImage() const { return !FImage.isNull(); }
    const QImage& Image() const { return FImage; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage FImage;
};

} // namespace bitonix
