#pragma once
// The read-only lists of the notebook and statistics windows: whole rows,
// 20 px high, one selected at a time, and stems shown as their words.
#include <QStringList>
#include <QTableWidget>
#include <string>

QTableWidget* NewListGrid(QWidget* parent, const QStringList& headers);

// A text of the bank without its markup, whitespace folded, cut to `length`.
QString ListText(const std::string& html, int length = 60);
