#pragma once

#include <QList>
#include <QUrl>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "operation_flags.h"
#include "progress_bar.h"
#include "remembered_choices.h"
#include "splitta_file_design.h"
#include "window_host.h"

class QLabel;
class QShortcut;

namespace zirared {

class Dialogs;
struct DropVerdict;

// The program's one window: the split, assemble and information pages, and the host the
// piece engine runs in. Operations run inside the open button's click handler and let
// events through once per block, so every handler here may run in the middle of one.
class SplittaFile final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SplittaFile)

public:
    explicit SplittaFile(Dialogs& dialogs, QWidget* parent = nullptr);
    ~SplittaFile() override;

    // Event handlers, named after their control and event.
    void Form_Load();
    void Form_Unload();
    void cmdOpen_Click(int index);
    void cmdStop_Click();
    void HScroll1_Change();
    void HScroll1_Scroll();
    void Check1_Click();
    void lblemail_Click();

    // A file given on the command line or by a second start, taken as a drop: a piece goes
    // to the assemble page and is assembled, anything else to the split page. Refused
    // while an operation runs. `path` is in the file system's bytes, not necessarily UTF-8.
    void OpenAsDropped(const QByteArray& path);
    // The process is asked to end (a signal): an open question or file chooser is cancelled,
    // a running operation gives up, leaving the folder as it was (a split deletes its pieces,
    // an assembly its unfinished output), and the window closes.
    void EndNow();

    void UpdateSizeLabel();
    std::int32_t GetPieceSizeKB() const;
    // True: idle (split chooser shown, slider enabled, Stop hidden); False: busy.
    void EnableControls(bool enabled);
    // Puts the bar under the tab container, as wide as it, and records whether it worked.
    void CreateProgressBar();
    bool ProgBarCreated() const { return m_progBar.Created(); }

    const SplittaFileDesign& design() const { return m_design; }
    // True from the click on an open button (or a drop) until its operation has returned.
    bool OperationActive() const { return m_flags.Active(); }
    const OperationFlags& Flags() const { return m_flags; }
    const std::vector<std::string>& PieceFiles() const { return m_pieceFiles; }
    // The host the engine's operations run in.
    WindowHost& Host() { return *m_host; }

signals:
    // An open sequence, a drop or a file from outside has returned, whatever became of it.
    void operationEnded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class ActivityScope;

    void ConnectHandlers();
    void SetHandPointers();
    bool HandlePageDrag(int page, QEvent* event);
    bool RefuseWhileActive();
    void ClearStatusLabels();
    QString ChooseFile(int index);
    void RunOperation(int index, const QByteArray& path);
    void OpenDroppedFiles(int index, const QList<QUrl>& urls);
    void OpenDropVerdict(int index, const DropVerdict& verdict);
    void CloseIfRequested();
    HostControls ControlsForHost();

    Dialogs& m_dialogs;
    SplittaFileDesign m_design;
    OperationFlags m_flags;
    std::unique_ptr<WindowHost> m_host;  // made once the controls it drives exist
    WindowProgressBar m_progBar;
    std::vector<std::string> m_pieceFiles;
    RememberedChoices m_remembered;  // the choosers' folders and the size setting
    QShortcut* m_escape = nullptr;   // enabled while the Stop button is shown
};

}  // namespace zirared
