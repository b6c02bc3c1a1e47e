// The list being edited as a table: one row per prize, its five lines, its
// picture and its exact odds; every change an undoable step.
#pragma once

#include "live_odds.h"
#include "picture_plan.h"
#include "prize_document.h"
#include "recovery.h"

#include <QAbstractTableModel>
#include <QUndoStack>

#include <functional>
#include <memory>
#include <optional>

namespace editor {

class PrizeTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Index, Weight, Color, Name, Amount, Note, Picture, Chance, Draws, ColumnCount };

    PrizeTableModel(QUndoStack &undo, QObject *parent = nullptr);

    const authoring::PrizeDocument &document() const { return document_; }
    // For saving, which changes only what the lines were read from.
    authoring::PrizeDocument &documentToSave() { return document_; }
    // A new document, not undoable: the undo stack is cleared.
    void resetDocument(authoring::PrizeDocument document);

    // The pictures as the list will have them once saved, read from the
    // list's picture folder (none for a list not saved yet) and the edits.
    const authoring::PicturePlan &pictures() const { return pictures_; }
    // The picture folder of a list just opened; planned changes are dropped.
    void resetPictureFolder(std::optional<std::filesystem::path> folder);

    // Saves the list and carries out its picture changes; the undo stack
    // is then clean. Throws authoring::ListError, all files as they were.
    // Returns saveList's note for the user.
    std::string save(const std::filesystem::path &file, authoring::FileSystem &files);

    // The newest odds; rows are marked with its warnings.
    void setCheck(std::shared_ptr<const ListCheck> check);
    const ListCheck *check() const { return check_.get(); }

    // Asked before a renamed prize's picture replaces another file.
    std::function<bool(const QString &question)> confirm = [](const QString &) { return false; };

    // Edits; each is one step on the undo stack. Rows are document indices.
    void setText(int row, authoring::Field field, const std::string &text);
    void addPrize(int at);
    void duplicatePrizes(QList<int> rows);
    void removePrizes(QList<int> rows);
    // Moves the rows by delta (-1 up, +1 down) when they all can; returns
    // where they ended up.
    QList<int> movePrizes(QList<int> rows, int delta);
    // Moves the rows, in order, to stand before row `before`.
    void movePrizesBefore(QList<int> rows, int before);
    void replaceAll(authoring::PrizeDocument document, const QString &what);
    // Scales the positive weights of rows (all rows when empty) as
    // editor::scaleWeightsTo100 says; the other rows keep theirs. Emits
    // editFailed when it cannot, and editSaid for weights it left alone.
    void scaleWeightsTo100(QList<int> rows);
    // Puts back edits kept in a recovery copy, as one undoable step.
    void restoreEdits(const authoring::Recovered &recovered);
    // Plans source, as a JPEG, as the prize's picture. Throws authoring::ListError.
    void setPicture(int row, const std::filesystem::path &source);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction | Qt::CopyAction; }
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;

signals:
    // The list or its pictures changed, by an edit or its undo.
    void listChanged();
    // An edit could not be made; the list is as it was.
    void editFailed(const QString &why);
    // An edit was made, and the user should know how.
    void editSaid(const QString &what);

private:
    struct Kept {
        authoring::Record record;
        authoring::Encoding bytesIn;
    };
    Kept keep(int row) const { return {document_.record(row), document_.keptBytesEncoding()}; }
    authoring::Record restorable(Kept kept) const;

    // The changes themselves, with the views told.
    void putRecord(int row, const Kept &kept);
    void putText(int row, authoring::Field field, const std::string &text);
    void insertKept(int at, const Kept &kept);
    void removeRow(int row);
    void moveRow(int from, int to);
    void putDocument(const authoring::PrizeDocument &document);
    // Pictures by prize name, as planned for the next save.
    using Pictures = std::vector<std::pair<std::string, authoring::PictureBytes>>;
    void putPictures(const Pictures &pictures);
    // The picture that follows a prize to its new name: the pictures before and after.
    struct PictureMove {
        Pictures before;
        Pictures after;
    };
    std::optional<PictureMove> renamePicture(int row, const std::string &from, const std::string &to);
    bool nameUsedElsewhere(int row, const std::string &name) const;

    // Sorted, each once, and only rows the list has.
    QList<int> validRows(QList<int> rows) const;
    const odds::PrizeRow *oddsOf(int row) const;
    QString warningsOf(int row) const;

    QUndoStack &undo_;
    authoring::PrizeDocument document_;
    authoring::PicturePlan pictures_;
    std::string dragSource_; // names this table in the rows it lets be dragged
    std::shared_ptr<const ListCheck> check_;
    std::vector<QString> warnings_; // by row, one message a line
};

} // namespace editor
