#pragma once

// The common library as the dialogs may use it: declarations only.

#include <QString>

#include <string>

QString sToQs(const std::string& text);
