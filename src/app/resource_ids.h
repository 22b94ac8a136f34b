/* The numbers of the dialogs, controls, menus, commands and pictures, written once for the whole
   program: the Windows resource script includes this file for the numbers, the shell and every host
   use the names below. The resource compiler defines RC_INVOKED and sees only the definitions. */
#ifndef VALBRIX_RESOURCE_IDS_H
#define VALBRIX_RESOURCE_IDS_H

#define DLG_MAIN 301
#define DLG_ABOUT 202
#define MNU_TRAY_GERMAN 302
#define MNU_TRAY_ENGLISH 303
#define ACC_MAIN 123
#define MSG_TRAY_CALLBACK 1025

#define ICO_PROGRAM 128
#define ICO_ACTIVE_IDENTIFIED 401
#define ICO_STANDBY_IDENTIFIED 402
#define ICO_UNUSED 403
#define ICO_NO_GAUGE 404
#define ICO_ACTIVE_PRINTING 405
#define ICO_STANDBY_PRINTING 406

/* Controls of the main dialog. */
#define CTL_EXIT_BUTTON 1002
#define CTL_STATUS_LINE 1003
#define CTL_CONTROL_CHARACTER_LABEL 1006
#define CTL_DECIMAL_SEPARATOR_LABEL 1007
#define CTL_UNIT_LABEL 1008
#define CTL_COM_PORT_LABEL 1009
#define CTL_FORMAT_GROUP 1010
#define CTL_PORT_GROUP 1011
#define CTL_CONTINUE_BUTTON 1012
#define CTL_DEVICE_GROUP 1013
#define CTL_DEVICE_LINE 1014
#define CTL_VALUE_TEXT 1015
#define CTL_UNIT_TEXT 1016
#define CTL_SEQUENCE_LABEL 1017
#define CTL_CONTROL_GROUP 1018
#define CTL_CONTROL_KEY_LIST 1104
#define CTL_PORT_LIST 1106
#define CTL_DECIMAL_SEPARATOR_LIST 1108
#define CTL_UNIT_DISPLAY_LIST 1110
#define CTL_SEQUENCE_FIELD 1115
#define CTL_MEASURED_VALUE_GROUP 1116

/* Controls of the About box. */
#define CTL_ABOUT_PROGRAM_LINE 1005
#define CTL_ABOUT_RIGHTS_LINE_1 1006
#define CTL_ABOUT_RIGHTS_LINE_2 1007
#define CTL_ABOUT_RULE 1008
#define CTL_ABOUT_ARTICLE_LINE 1009
#define CTL_ABOUT_OK 1052

/* Commands: Escape and the close box, the menu bar, the tray menus. */
#define CMD_CANCEL 2
#define CMD_MODEL_GROUP_1 4000
#define CMD_MODEL_GROUP_2 4001
#define CMD_FIND_DEVICE 4103
#define CMD_TRAY_HELP 4107
#define CMD_HELP 4109
#define CMD_TRAY_SETTINGS 4110
#define CMD_GERMAN 4114
#define CMD_ENGLISH 4115
#define CMD_EXIT_MENU 4116
#define CMD_LEAVE_PROGRAM 4117
#define CMD_LAYOUT_GERMAN_ENGLISH 4120
#define CMD_LAYOUT_FRENCH 4121
#define CMD_CONTINUE_MENU 40001
#define CMD_ABOUT 40002
#define CMD_TRANSFER_ACTIVE 40004
#define CMD_TRAY_EXIT 40008

#ifndef RC_INVOKED
namespace valbrix {

enum DialogControl : int {
    ExitButton = CTL_EXIT_BUTTON,
    StatusLine = CTL_STATUS_LINE,
    ControlCharacterLabel = CTL_CONTROL_CHARACTER_LABEL,
    DecimalSeparatorLabel = CTL_DECIMAL_SEPARATOR_LABEL,
    UnitLabel = CTL_UNIT_LABEL,
    ComPortLabel = CTL_COM_PORT_LABEL,
    FormatGroup = CTL_FORMAT_GROUP,
    PortGroup = CTL_PORT_GROUP,
    ContinueButton = CTL_CONTINUE_BUTTON,
    DeviceGroup = CTL_DEVICE_GROUP,
    DeviceLineControl = CTL_DEVICE_LINE,
    ValueTextControl = CTL_VALUE_TEXT,
    UnitTextControl = CTL_UNIT_TEXT,
    SequenceLabel = CTL_SEQUENCE_LABEL,
    ControlGroup = CTL_CONTROL_GROUP,
    ControlKeyList = CTL_CONTROL_KEY_LIST,
    PortListControl = CTL_PORT_LIST,
    DecimalSeparatorList = CTL_DECIMAL_SEPARATOR_LIST,
    UnitDisplayList = CTL_UNIT_DISPLAY_LIST,
    SequenceField = CTL_SEQUENCE_FIELD,
    MeasuredValueGroup = CTL_MEASURED_VALUE_GROUP,
};

enum Command : int {
    CommandCancel = CMD_CANCEL,
    CommandModelGroup1 = CMD_MODEL_GROUP_1,
    CommandModelGroup2 = CMD_MODEL_GROUP_2,
    CommandFindDevice = CMD_FIND_DEVICE,
    CommandTrayHelp = CMD_TRAY_HELP,
    CommandHelp = CMD_HELP,
    CommandTraySettings = CMD_TRAY_SETTINGS,
    CommandGerman = CMD_GERMAN,
    CommandEnglish = CMD_ENGLISH,
    CommandExitMenu = CMD_EXIT_MENU,
    CommandLeaveProgram = CMD_LEAVE_PROGRAM,
    CommandLayoutGermanEnglish = CMD_LAYOUT_GERMAN_ENGLISH,
    CommandLayoutFrench = CMD_LAYOUT_FRENCH,
    CommandContinueMenu = CMD_CONTINUE_MENU,
    CommandAbout = CMD_ABOUT,
    CommandTransferActive = CMD_TRANSFER_ACTIVE,
    CommandTrayExit = CMD_TRAY_EXIT,
};

enum Picture : int {
    ProgramIcon = ICO_PROGRAM,
    IconActiveIdentified = ICO_ACTIVE_IDENTIFIED,  // green gauge with arrow
    IconStandbyIdentified = ICO_STANDBY_IDENTIFIED,  // green gauge
    IconUnused = ICO_UNUSED,                       // red gauge with grey arrow, kept for the numbering
    IconNoGauge = ICO_NO_GAUGE,                    // red gauge
    IconActivePrinting = ICO_ACTIVE_PRINTING,      // yellow gauge with arrow: model group 2
    IconStandbyPrinting = ICO_STANDBY_PRINTING,    // yellow gauge
};

}  // namespace valbrix
#endif

#endif
