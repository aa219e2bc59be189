#pragma once
// Inside the window layer: the object a web page reaches over the web channel as "host".

#include <QObject>
#include <QVariantMap>

#include <functional>

class HtmlPageBridge : public QObject {
    Q_OBJECT

  public:
    std::function<void(const QVariantMap&)> onElements;

  public slots:
    // The page's element values by id.
    void elements(const QVariantMap& values);
};
