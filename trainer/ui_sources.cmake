# The Qt sources of trainer/, built into vantrel_trainer_ui instead of the Qt-free core.
set(VANTREL_TRAINER_UI_SOURCES
    AudioExportCommand.cpp
    LessonTab.cpp
    AccessibleSlider.cpp
    Announcer.cpp
    CheckComparisonView.cpp
    LearnerProgress.cpp
    MainForm.cpp
    MessagePresenter.cpp
    QtNotificationQueue.cpp
    QtWindowGeometry.cpp
    ThemeColours.cpp
    StatisticsWindow.cpp
)
