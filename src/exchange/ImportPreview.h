#pragma once
// The import dialog's preview: the questions as the page will show them (the
// first twenty), then every question left out with its problem beside it.
#include "exchange/ImportPlan.h"

#include <QTextBrowser>

class TImportPreview : public QTextBrowser {
    Q_OBJECT
public:
    explicit TImportPreview(QWidget* parent = nullptr);
    void Show(const exchange::ImportPlan& plan, const exchange::ParsedFile& file);

    static constexpr int kShown = 20;

protected:
    // Only the file's own pictures are shown; nothing is read from disk or the network.
    QVariant loadResource(int type, const QUrl& name) override;

private:
    exchange::Pictures pictures_;
};
