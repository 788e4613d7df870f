#include "changerecord.h"

namespace morvane {

void ChangeRecord::begin(const QString& folder, qint64 total) {
    begun_ = journal_ != nullptr;
    on_ = begun_ && journal_->begin(folder, total);
}

bool ChangeRecord::finish(bool touched) {
    keep(on() && journal_->finish());
    if (begun_ && !touched) journal_->withdraw(); // nothing to undo: the last change stays
    return on() && touched;
}

} // namespace morvane
