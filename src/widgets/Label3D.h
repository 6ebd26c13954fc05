// TLabel3D: a label whose text is drawn with a 3-D effect (raised, recessed
// or with a drop shadow), optionally on an opaque background and inside a
// recessed border. The header strip and the results panel are built of them.
#pragma once

#include <QColor>
#include <QWidget>
#include <string>

namespace tervan {

class TLabel3D : public QWidget {
    Q_OBJECT
public:
    enum TextStyle { kFlat, kRaised, kRecessed, kShadow };

    explicit TLabel3D(QWidget* parent = nullptr);

    QString text() const { return text_; }
    void setText(const QString& text);
    // CP932 text from the core.
    void SetCaption(const std::string& cp932);
    // The text as CP932, as the core reads labels back (the date line of the
    // header strip is part of the copy heading and the CSV file name).
    std::string Caption() const;

    void setTextStyle(TextStyle style);
    TextStyle textStyle() const { return style_; }
    // Opaque: the background colour fills the label; otherwise its parent shows.
    void setOpaque(bool opaque);
    bool isOpaque() const { return opaque_; }
    void setBackgroundColor(const QColor& color);
    QColor backgroundColor() const { return background_; }
    void setTextColor(const QColor& color);
    QColor textColor() const { return textColor_; }
    void setAlignment(Qt::Alignment alignment);
    Qt::Alignment alignment() const { return alignment_; }
    // A sunken frame around the label, as the value labels of the results panel have.
    void setRecessedBorder(bool on);
    // Grow to fit the text (the header labels), or keep a fixed size.
    void setAutoSize(bool on);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Fit();

    QString text_;
    TextStyle style_ = kRaised;
    bool opaque_ = false;
    bool border_ = false;
    bool autoSize_ = true;
    QColor background_;
    QColor textColor_ = Qt::black;
    Qt::Alignment alignment_ = Qt::AlignLeft | Qt::AlignTop;
};

} // namespace tervan
