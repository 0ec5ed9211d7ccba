// The bridge's debug lines: one category for the view and its stores.
#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcBridge)
