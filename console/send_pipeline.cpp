// The send pipeline of the console: SendData, the send area, the TX counter and auto send.
#include "console/quillon_dlg.h"

using namespace console_ids;

// Not yet: conversion, send options and the write come with the send pipeline. Nothing is
// written.
void CQuillonDlg::SendData(std::string, int, int, int) {}

void CQuillonDlg::OnSend() {}
void CQuillonDlg::OnAutoSend() {}
void CQuillonDlg::OnIntervalChange() {}
void CQuillonDlg::OnSendClear() {}
void CQuillonDlg::OnHexSend() {}
void CQuillonDlg::OnWriteDone(intptr_t) {}
void CQuillonDlg::OnStopAutoSend() {}
void CQuillonDlg::OnAutoSendTimer() {}
void CQuillonDlg::OnFileStatusTimer() {}
