#pragma once

#include "Form.h"

#include <QList>

#include <array>
#include <vector>

class MaskedEdit;
class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QMenuBar;
class QWidget;
struct FormControl;

// A row of the editor's control table and the widget the layout built for it.
struct ControlWidget {
    const FormControl* control = nullptr;
    QWidget* widget = nullptr;
};

// The main window's controls, named as the window names them. Built once; the
// window copies a Form into them and user edits back.
struct MainWindowControls {
    // Top strip.
    QLabel* Label10 = nullptr;
    MaskedEdit* ProgAccessCode = nullptr;
    QLabel* lblProduct = nullptr;
    QLabel* Label7 = nullptr;

    QGroupBox* framePaging = nullptr;
    MaskedEdit *PrimaryCode = nullptr, *SecondaryCode = nullptr, *LowerBlockCode = nullptr, *UpperBlockCode = nullptr;
    QLabel *Label11 = nullptr, *Label12 = nullptr, *Label13 = nullptr, *Label14 = nullptr;

    QGroupBox* frameOptions = nullptr;
    QComboBox *cmbSystemTone = nullptr, *cmbSystemID = nullptr, *cmbMandown = nullptr;
    QLabel *Label9 = nullptr, *Label30 = nullptr, *Label4 = nullptr;
    QCheckBox *chkEmergency = nullptr, *chkPriority = nullptr, *chkConventional = nullptr, *chkClearChannel = nullptr,
              *chkRadioKill = nullptr, *chkDTMFMic = nullptr, *chkVoiceEncryption = nullptr, *chkRoaming = nullptr,
              *chkANI = nullptr;

    QGroupBox* frameGroups = nullptr;
    QCheckBox* chkFleetDispatch = nullptr;
    QLabel *Label3 = nullptr, *Label2 = nullptr;
    std::array<QLabel*, Form::kGroups> Label1{};
    std::array<MaskedEdit*, Form::kGroups> GroupCode{};
    std::array<MaskedEdit*, Form::kGroups> GroupAlpha{};

    QGroupBox* frameSpeedDial = nullptr;
    QCheckBox* chkMemorySpeed = nullptr;
    QLabel *Label5 = nullptr, *Label6 = nullptr, *Label8 = nullptr, *Label25 = nullptr;
    std::array<QLabel*, Form::kSpeedDials> Label23{};
    std::array<MaskedEdit*, Form::kSpeedDials> SpeedDial{};
    std::array<MaskedEdit*, Form::kSpeedDials> SpeedAlpha{};
    std::array<QCheckBox*, Form::kSpeedDials> chkLock{};

    // Every row of the editor's control table with its widget, as the layout built them;
    // the view binds each row to its widget through this, not through the widget's name.
    std::vector<ControlWidget> rows;

    // Builds every control on `client` (704 x 420) and sets the tab order.
    static MainWindowControls build(QWidget* client);
    // The focus order of the Tab key.
    QList<QWidget*> tabOrder() const;
};

struct MainWindowMenus {
    QMenu *mnuFile = nullptr, *mnuEdit = nullptr, *mnuClone = nullptr, *mnuProd = nullptr, *mnuSerial = nullptr,
          *mnuHelp = nullptr;
    QAction *mnuFileOpen = nullptr, *mnuFileSaveAs = nullptr, *mnuFilePrintScreen = nullptr, *mnuExit = nullptr;
    // Additions of this programmer, each its own item; the checkable ones start unticked.
    QAction *mnuFileBackups = nullptr, *mnuFileCompare = nullptr;
    QAction *mnuEditUndo = nullptr, *mnuEditRedo = nullptr; // disabled until there is a step
    QMenu* mnuFileRecent = nullptr;                         // its items are mnuFileRecent1..8
    QAction *mnuFileExportLists = nullptr, *mnuFileImportLists = nullptr;
    QAction *mnuFilePrintReport = nullptr, *mnuFileExportReport = nullptr;
    QAction *mnuVerifyAfterWrite = nullptr, *mnuBackUpBeforeWrite = nullptr;
    QAction *mnuRecordTrace = nullptr, *mnuDiagnoseLink = nullptr;
    QAction* mnuCloneFleet = nullptr;
    QAction* mnuSerialOther = nullptr;
    QAction *mnuEstablishLink = nullptr, *mnuOperRead = nullptr, *mnuOperWrite = nullptr, *mnuIncrement = nullptr,
            *mnuForce = nullptr;
    std::array<QAction*, Product::kCount + 1> mnuProduct{}; // 1..kCount
    std::array<QAction*, 5> mnuSerialConfig{};              // 1..4
    QAction *mnuHelpContents = nullptr, *mnuWeb = nullptr, *mnuAbout = nullptr;

    static MainWindowMenus build(QMenuBar* bar);
};
