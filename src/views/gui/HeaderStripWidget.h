// THeaderStrip: the panel above the tabs with the eleven 3-D labels naming
// the race on display (course, race number, date and meeting, race name,
// runner count, weight rule, class, track, distance, post time, grade).
#pragma once

#include "app/RaceDay.h"
#include "views/HeaderStrip.h"

#include <QFrame>
#include <array>

namespace tervan {

class TLabel3D;

class THeaderStrip : public QFrame {
    Q_OBJECT
public:
    explicit THeaderStrip(QWidget* parent = nullptr);

    void SetTexts(const HeaderStripTexts& texts);
    const HeaderStripTexts& Texts() const { return texts_; }

    // Label i in the order of kHeaderLabelStyles (Label3D1, Label3D2, ...).
    TLabel3D* Label(int index) const { return labels_.at(static_cast<size_t>(index)); }
    TLabel3D* LabelByName(const char* name) const;

private:
    std::array<TLabel3D*, 11> labels_{};
    HeaderStripTexts texts_;
};

} // namespace tervan
