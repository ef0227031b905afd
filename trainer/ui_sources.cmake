# The Qt sources of trainer/, built into vantrel_trainer_ui instead of the Qt-free core.
set(VANTREL_TRAINER_UI_SOURCES
    CheckComparisonView.cpp
    LearnerProgress.cpp
    MainForm.cpp
    MessagePresenter.cpp
    QtNotificationQueue.cpp
    QtWindowGeometry.cpp
    StatisticsWindow.cpp
)
