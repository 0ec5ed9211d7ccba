#pragma once

#include <QLoggingCategory>

namespace romwriter {
Q_DECLARE_LOGGING_CATEGORY(lcUpdater)
} // namespace romwriter
