#pragma once

#include <QPushButton>

#include <functional>

// One key hint of the palette: "[keys]" and a caption; clicking runs the action.
class ActionShortcutHint : public QPushButton
{
    Q_OBJECT
public:
    ActionShortcutHint(const QString& keys, const QString& label, std::function<void()> action,
                       QWidget* parent = nullptr);

    QString keys() const { return m_keys; }
    QString label() const { return m_label; }

protected:
    void paintEvent(QPaintEvent* event) override;
    QSize sizeHint() const override;

private:
    QString m_keys;
    QString m_label;
    std::function<void()> m_action;
};
