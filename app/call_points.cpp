#include "app/call_points.h"

void ResetLinkFlags() {}
void InstallTableMenus() {}
void ReadParametersFromPanel() {}
void ReadPanelSettings() {}
void ReadCommunicationSettings() {}
void WritePanelSettings() {}
void ShowTransportSelectors() {}
void TryToConnect() {}
void CloseSensorLink() {}
void ReapplyStripChartTraces() {}
void ArrangeRecorderPage() {}
