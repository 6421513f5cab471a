#include "app/WindowDriver.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QWidget>

#include "host/HostErrors.h"

namespace orlo::desk {

namespace {

using host::err::hostError;

constexpr int kDefaultRowLimit = 100;

Error badCommand(const QString& why) {
    return hostError(host::err::kInvalidArgument, why);
}

QString kindOf(const QWidget* w) {
    if (qobject_cast<const QAbstractButton*>(w)) {
        return QStringLiteral("button");
    }
    if (qobject_cast<const QLineEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w)) {
        return QStringLiteral("text");
    }
    if (qobject_cast<const QComboBox*>(w)) {
        return QStringLiteral("combo");
    }
    if (qobject_cast<const QAbstractItemView*>(w)) {
        return QStringLiteral("list");
    }
    if (qobject_cast<const QLabel*>(w)) {
        return QStringLiteral("label");
    }
    if (qobject_cast<const QGroupBox*>(w)) {
        return QStringLiteral("frame");
    }
    return {};
}

// The texts of a combo box's items.
QJsonArray comboItems(const QComboBox& combo) {
    QJsonArray items;
    for (int i = 0; i < combo.count(); ++i) {
        items.append(combo.itemText(i));
    }
    return items;
}

QJsonObject describe(const QWidget& w, const QString& kind) {
    QJsonObject out{{QStringLiteral("name"), w.objectName()},
                    {QStringLiteral("kind"), kind},
                    {QStringLiteral("enabled"), w.isEnabled()},
                    {QStringLiteral("visible"), w.isVisibleTo(w.window())}};
    if (const auto* b = qobject_cast<const QAbstractButton*>(&w)) {
        out.insert(QStringLiteral("text"), b->text());
        out.insert(QStringLiteral("toolTip"), b->toolTip());
        if (b->isCheckable()) {
            out.insert(QStringLiteral("checked"), b->isChecked());
        }
    } else if (const auto* e = qobject_cast<const QLineEdit*>(&w)) {
        out.insert(QStringLiteral("text"), e->text());
    } else if (const auto* p = qobject_cast<const QPlainTextEdit*>(&w)) {
        out.insert(QStringLiteral("text"), p->toPlainText());
    } else if (const auto* c = qobject_cast<const QComboBox*>(&w)) {
        out.insert(QStringLiteral("text"), c->currentText());
        out.insert(QStringLiteral("items"), comboItems(*c));
    } else if (const auto* l = qobject_cast<const QLabel*>(&w)) {
        out.insert(QStringLiteral("text"), l->text());
    } else if (const auto* g = qobject_cast<const QGroupBox*>(&w)) {
        out.insert(QStringLiteral("text"), g->title());
    } else if (const auto* v = qobject_cast<const QAbstractItemView*>(&w)) {
        out.insert(QStringLiteral("count"), v->model() ? v->model()->rowCount() : 0);
    }
    return out;
}

Result<QWidget*> control(QWidget& window, const QJsonObject& c) {
    const QString name = c.value(QStringLiteral("control")).toString();
    if (name.isEmpty()) {
        return badCommand(QStringLiteral("The command needs \"control\" (a text)."));
    }
    auto* w = window.findChild<QWidget*>(name);
    if (w == nullptr || kindOf(w).isEmpty()) {
        return hostError(host::err::kControlNotFound,
                         QStringLiteral("The window has no control \"%1\".").arg(name));
    }
    if (!w->isEnabled()) {
        return hostError(host::err::kInvalidProcedureCall,
                         QStringLiteral("The control \"%1\" is disabled.").arg(name));
    }
    return w;
}

template <typename T>
Result<T*> controlOf(QWidget& window, const QJsonObject& c, const char* kind) {
    const Result<QWidget*> w = control(window, c);
    if (!w) {
        return w.error();
    }
    if (auto* t = qobject_cast<T*>(*w)) {
        return t;
    }
    return badCommand(QStringLiteral("The control \"%1\" is no %2.")
                          .arg((*w)->objectName(), QString::fromLatin1(kind)));
}

QString cellText(const QAbstractItemModel& model, int row, int column) {
    return model.data(model.index(row, column), Qt::DisplayRole).toString();
}

Result<QJsonObject> controls(QWidget& window, const QJsonObject&) {
    QJsonArray out;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        const QString kind = kindOf(w);
        if (!kind.isEmpty() && !w->objectName().isEmpty() &&
            !w->objectName().startsWith(QLatin1String("qt_"))) {
            out.append(describe(*w, kind));
        }
    }
    return QJsonObject{{QStringLiteral("caption"), window.windowTitle()},
                       {QStringLiteral("controls"), out}};
}

Result<QJsonObject> setControl(QWidget& window, const QJsonObject& c) {
    const QJsonValue value = c.value(QStringLiteral("value"));
    if (!value.isString()) {
        return badCommand(QStringLiteral("The command needs \"value\" (a text)."));
    }
    const Result<QWidget*> w = control(window, c);
    if (!w) {
        return w.error();
    }
    if (auto* edit = qobject_cast<QLineEdit*>(*w)) {
        edit->setText(value.toString());
        return QJsonObject{};
    }
    if (auto* combo = qobject_cast<QComboBox*>(*w)) {
        const int index = combo->findText(value.toString());
        if (index < 0) {
            return badCommand(QStringLiteral("\"%1\" is not among the choices of \"%2\".")
                                  .arg(value.toString(), combo->objectName()));
        }
        combo->setCurrentIndex(index);
        Q_EMIT combo->activated(index);
        return QJsonObject{};
    }
    return badCommand(QStringLiteral("The control \"%1\" takes no value.").arg((*w)->objectName()));
}

Result<QJsonObject> clickControl(QWidget& window, const QJsonObject& c) {
    const Result<QAbstractButton*> b = controlOf<QAbstractButton>(window, c, "button");
    if (!b) {
        return b.error();
    }
    (*b)->click();
    return QJsonObject{};
}

Result<QJsonObject> selectRow(QWidget& window, const QJsonObject& c) {
    const Result<QAbstractItemView*> view = controlOf<QAbstractItemView>(window, c, "list");
    if (!view) {
        return view.error();
    }
    QAbstractItemModel* model = (*view)->model();
    const int count = model ? model->rowCount() : 0;
    int row = -1;
    if (c.value(QStringLiteral("text")).isString()) {
        const QString text = c.value(QStringLiteral("text")).toString();
        for (int r = 0; r < count && row < 0; ++r) {
            if (cellText(*model, r, 0) == text) {
                row = r;
            }
        }
    } else {
        row = c.value(QStringLiteral("row")).toInt(-1);
    }
    if (row < 0 || row >= count) {
        return badCommand(
            QStringLiteral("The list \"%1\" has no such row.").arg((*view)->objectName()));
    }
    const QModelIndex index = model->index(row, 0);
    (*view)->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    (*view)->scrollTo(index);
    Q_EMIT(*view)->clicked(index);
    if (c.value(QStringLiteral("doubleClick")).toBool()) {
        Q_EMIT(*view)->doubleClicked(index);
    }
    return QJsonObject{{QStringLiteral("row"), row}};
}

Result<QJsonObject> clickHeader(QWidget& window, const QJsonObject& c) {
    const Result<QAbstractItemView*> view = controlOf<QAbstractItemView>(window, c, "list");
    if (!view) {
        return view.error();
    }
    auto* table = qobject_cast<QTableView*>(*view);
    const int column = c.value(QStringLiteral("column")).toInt(-1);
    if (table == nullptr || column < 0 || column >= table->model()->columnCount()) {
        return badCommand(
            QStringLiteral("The list \"%1\" has no such column.").arg((*view)->objectName()));
    }
    Q_EMIT table->horizontalHeader()->sectionClicked(column);
    return QJsonObject{};
}

Result<QJsonObject> rows(QWidget& window, const QJsonObject& c) {
    const Result<QAbstractItemView*> view = controlOf<QAbstractItemView>(window, c, "list");
    if (!view) {
        return view.error();
    }
    const QAbstractItemModel* model = (*view)->model();
    const int count = model ? model->rowCount() : 0;
    const int columns = model ? model->columnCount() : 0;
    QJsonArray captions;
    for (int col = 0; col < columns; ++col) {
        captions.append(model->headerData(col, Qt::Horizontal, Qt::DisplayRole).toString());
    }
    const int offset = std::max(0, c.value(QStringLiteral("offset")).toInt(0));
    const int limit = std::max(0, c.value(QStringLiteral("limit")).toInt(kDefaultRowLimit));
    QJsonArray out;
    for (int r = offset; r < count && r < offset + limit; ++r) {
        QJsonArray cells;
        for (int col = 0; col < columns; ++col) {
            cells.append(cellText(*model, r, col));
        }
        out.append(cells);
    }
    const QModelIndexList selected =
        (*view)->selectionModel() ? (*view)->selectionModel()->selectedRows() : QModelIndexList{};
    return QJsonObject{{QStringLiteral("columns"), captions},
                       {QStringLiteral("rows"), out},
                       {QStringLiteral("count"), count},
                       {QStringLiteral("selected"), selected.isEmpty() ? -1 : selected[0].row()}};
}

// A report preview's rows written to "file" as its Save as CSV writes them,
// without the file dialog. The preview comes from an add-in's own copy of
// the report library, so it is reached through its meta-object.
Result<QJsonObject> exportCsv(QWidget& window, const QJsonObject& c) {
    const QString file = c.value(QStringLiteral("file")).toString();
    if (file.isEmpty()) {
        return badCommand(QStringLiteral("The command needs \"file\" (a text)."));
    }
    bool written = false;
    if (!QMetaObject::invokeMethod(&window, "exportCsv", Q_RETURN_ARG(bool, written),
                                   Q_ARG(QString, file))) {
        return badCommand(
            QStringLiteral("The window \"%1\" has no CSV export.").arg(window.objectName()));
    }
    if (!written) {
        return hostError(host::err::kPathFileAccessError,
                         QStringLiteral("Could not write \"%1\".").arg(file));
    }
    return QJsonObject{{QStringLiteral("file"), file}};
}

using Command = Result<QJsonObject> (*)(QWidget&, const QJsonObject&);

struct Entry {
    const char* name;
    Command run;
};

constexpr Entry kCommands[] = {
    {"controls", controls},   {"setControl", setControl},   {"clickControl", clickControl},
    {"selectRow", selectRow}, {"clickHeader", clickHeader}, {"rows", rows},
    {"exportCsv", exportCsv},
};

}  // namespace

Result<QJsonObject> driveWindow(QWidget& window, const QString& command, const QJsonObject& c) {
    for (const Entry& e : kCommands) {
        if (command == QLatin1String(e.name)) {
            return e.run(window, c);
        }
    }
    return badCommand(QStringLiteral("Unknown window command \"%1\".").arg(command));
}

}  // namespace orlo::desk
