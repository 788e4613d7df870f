// The window's geometry: the table of places in twips, grown as a larger font or a longer
// language needs, and mirrored for a right-to-left one.
#include "frmMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>

#include <algorithm>
#include <cmath>

namespace morvane {
namespace {

// The layout is drawn in twips; 15 twips make one device-independent pixel at scale 1.
// Edges are scaled rather than sizes, so that controls that meet in the table still meet.
QRect twips(int left, int top, int width, int height, double scale) {
    const auto px = [scale](int t) { return int(std::lround(t * scale / 15)); };
    return {QPoint(px(left), px(top)), QPoint(px(left + width) - 1, px(top + height) - 1)};
}

} // namespace

void frmMain::layOut() {
    struct Place {
        QWidget* w;
        int left, top, width, height; // twips
        QRect at(double scale) const { return twips(left, top, width, height, scale); }
    };
    const Place table[] = {{Label1, 120, 120, 855, 255},
                           {txtFile, 120, 360, 6615, 285},
                           {cmdOpen, 6840, 360, 300, 300},
                           {Label2, 120, 840, 2055, 255},
                           {txtExtension, 120, 1080, 615, 285},
                           {Label3, 2400, 840, 1215, 255},
                           {cmdChange, 2130, 1680, 1455, 495},
                           {cmdCancel, 3690, 1680, 1455, 495},
                           {cboNewExtension, 2400, 1080, 975, 315},
                           {chkLeaveCopy, 3840, 840, 2295, 255},
                           {chkAllInFolder, 3840, 1200, 3255, 255}};
    const Place window{this, 0, 0, 7275, 2310};
    const int margin = 120; // twips, the table's own left margin, kept on the right too
    const QList<QWidget*> texts{Label1, Label2, Label3, chkLeaveCopy, chkAllInFolder};

    // A text may widen into the free room to its right, up to the next control beside it
    // or the window's margin.
    const auto room = [&](const Place& p, double scale) {
        const QRect r = p.at(scale);
        int limit = twips(window.width - margin, 0, 0, 0, scale).left();
        for (const Place& other : table) {
            const QRect o = other.at(scale);
            if (o.left() > r.left() && o.top() <= r.bottom() && o.bottom() >= r.top())
                limit = std::min(limit, o.left());
        }
        return limit - r.left();
    };
    // The height a field leaves inside its frame for its line of text, as the style draws it.
    const auto lineRoom = [this](QWidget* field, const QRect& r) {
        if (field == cboNewExtension) {
            QStyleOptionComboBox option;
            option.initFrom(field);
            option.rect = r;
            option.editable = true;
            return style()
                ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, field)
                .height();
        }
        QStyleOptionFrame option;
        option.initFrom(field);
        option.rect = r;
        option.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, field);
        return style()->subElementRect(QStyle::SE_LineEditContents, &option, field).height();
    };

    // The table was drawn for a small font. What each control's text needs is set against
    // the room the table gives it; where a font needs more, the whole table grows by the
    // largest shortfall, as dialog units do, and keeps its proportions.
    const int line = fontMetrics().height();
    QList<std::pair<int, int>> needs; // {pixels needed, pixels given}
    for (const Place& p : table) {
        const QRect r = p.at(1);
        if (texts.contains(p.w)) {
            const int indicator =
                qobject_cast<QCheckBox*>(p.w)
                    ? style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, p.w)
                    : 0;
            needs.append({p.w->sizeHint().width(), room(p, 1)});
            needs.append({std::max(line, indicator), r.height()});
        } else if (p.w == cmdChange || p.w == cmdCancel) {
            needs.append({p.w->sizeHint().width(), r.width()});
            needs.append({p.w->sizeHint().height(), r.height()});
        } else if (p.w != cmdOpen) { // the fields; the picture keeps its size
            needs.append({line + r.height() - lineRoom(p.w, r), r.height()});
        }
    }
    double scale = 1;
    for (const auto& [need, given] : needs)
        scale = std::max(scale, double(need) / given);
    if (scale > 1) // one pixel more, which rounding the scaled edges may take away
        for (const auto& [need, given] : needs)
            scale = std::max(scale, (need + 1.0) / given);

    const QRect all(QPoint(), window.at(scale).size());
    setFixedSize(all.size());
    for (const Place& p : table) {
        QRect r = p.at(scale);
        if (texts.contains(p.w))
            r.setWidth(std::max(r.width(), std::min(p.w->sizeHint().width(), room(p, scale))));
        // Right to left the table is read from the right, as Qt mirrors its layouts; a text
        // then widens to its left.
        p.w->setGeometry(QStyle::visualRect(layoutDirection(), all, r));
    }
}

void frmMain::centre() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen) move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

} // namespace morvane
