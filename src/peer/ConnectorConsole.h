#pragma once
// ConnectorConsole: the connector's window "Orlo Connector" (formMain). It
// is never shown; the desk's automation channel reads it like any other
// window: the hosts connected (listHosts), the echo of every line sent
// (textOutput), the input line (textInput), and the "&Connect" menu whose
// "Disconnect" closes the selected hosts' connections and is enabled
// exactly while a host is selected.

#include <QWidget>

class QListWidget;
class QPlainTextEdit;
class QLineEdit;
class QAction;

namespace orlo::peer {

class formMain;

class ConnectorConsole final : public QWidget {
    Q_OBJECT

public:
    explicit ConnectorConsole(formMain& form);

private:
    void showHosts();

    formMain& m_form;
    QListWidget* listHosts;
    QPlainTextEdit* textOutput;
    QLineEdit* textInput;
    QAction* menuDisconnect;
};

}  // namespace orlo::peer
