#include "app/AutomationCommands.h"

#include <QJsonDocument>
#include <QStringView>
#include <array>
#include <utility>

#include "app/AutomationHandlers.h"

namespace orlo::desk {

namespace {

const QString kOk = QStringLiteral("ok");

constexpr std::array<std::pair<QStringView, commands::Handler>, 31> kCommands = {{
    {u"create", commands::create},
    {u"set", commands::set},
    {u"save", commands::save},
    {u"delete", commands::remove},
    {u"display", commands::display},
    {u"close", commands::close},
    {u"find", commands::find},
    {u"dump", commands::dump},
    {u"form", commands::form},
    {u"items", commands::items},
    {u"folders", commands::folders},
    {u"switchFolder", commands::switchFolder},
    {u"menu", commands::menu},
    {u"click", commands::click},
    {u"answer", commands::answer},
    {u"messageBoxes", commands::messageBoxes},
    {u"state", commands::state},
    {u"screenshot", commands::screenshot},
    {u"windows", commands::windows},
    {u"closeWindow", commands::closeWindow},
    {u"call", commands::call},
    {u"closeMain", commands::closeMain},
    {u"controls", commands::windowControl},
    {u"setControl", commands::windowControl},
    {u"clickControl", commands::windowControl},
    {u"selectRow", commands::windowControl},
    {u"clickHeader", commands::windowControl},
    {u"rows", commands::windowControl},
    {u"exportCsv", commands::windowControl},
    {u"calendar", commands::calendar},
    {u"quit", commands::quit},
}};

constexpr std::array<QStringView, 9> kInsideModal = {u"windows",  u"screenshot",   u"closeWindow",
                                                     u"answer",   u"messageBoxes", u"state",
                                                     u"controls", u"rows",         u"exportCsv"};

QJsonObject errorReply(const Error& e) {
    return QJsonObject{{kOk, false},
                       {QStringLiteral("error"),
                        QJsonObject{{QStringLiteral("number"), static_cast<qint64>(e.number)},
                                    {QStringLiteral("description"), e.description}}}};
}

}  // namespace

AutomationCommands::AutomationCommands(DeskSession& session, ScriptedMessageBoxes& boxes,
                                       WindowControl& windows)
    : m_context{session, boxes, windows, {}} {}

AutomationCommands::~AutomationCommands() = default;

QByteArray AutomationCommands::handleLine(const QByteArray& line) {
    QJsonParseError parseError{};
    const QJsonDocument doc = QJsonDocument::fromJson(line, &parseError);
    QJsonObject reply;
    if (parseError.error != QJsonParseError::NoError) {
        reply = errorReply(badCommand(QStringLiteral("Bad JSON: %1 at offset %2.")
                                          .arg(parseError.errorString())
                                          .arg(parseError.offset)));
    } else if (!doc.isObject()) {
        reply = errorReply(badCommand(QStringLiteral("A command is one JSON object.")));
    } else {
        reply = run(doc.object());
    }
    return QJsonDocument(reply).toJson(QJsonDocument::Compact);
}

QByteArray AutomationCommands::refusedLine(const QString& why) {
    return QJsonDocument(errorReply(badCommand(why))).toJson(QJsonDocument::Compact);
}

bool AutomationCommands::runsInsideModal(const QByteArray& line) const {
    const QString name =
        QJsonDocument::fromJson(line).object().value(QStringLiteral("cmd")).toString();
    return std::find(kInsideModal.begin(), kInsideModal.end(), name) != kInsideModal.end();
}

QJsonObject AutomationCommands::run(const QJsonObject& command) {
    const QString name = command.value(QStringLiteral("cmd")).toString();
    const auto it = std::find_if(kCommands.begin(), kCommands.end(),
                                 [&](const auto& entry) { return entry.first == name; });
    if (it == kCommands.end()) {
        return errorReply(badCommand(QStringLiteral("Unknown command \"%1\".").arg(name)));
    }
    Result<QJsonObject> result = it->second(m_context, command);
    m_context.handles.release();
    if (!result) {
        return errorReply(result.error());
    }
    QJsonObject reply = std::move(result).value();
    reply.insert(kOk, true);
    return reply;
}

}  // namespace orlo::desk
