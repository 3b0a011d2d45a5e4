// The order/answer exchange with the sensor (layout in com232/frame_format.h).
//
// Calling order of every operation that talks to the sensor: payload words into
// SendWords, BuildOrderFrame, ExchangeOrder(8 + data length), and on result 1
// take ResponseStatus and the data (CopyResponseTo... or ReceiveBuffer from byte 8).
// A failure has been reported through ShowCommunicationError when -1 comes back;
// a status answer is reported too while the result stays 1, so sequences of
// orders also test State.SensorConnected.
#pragma once

#include <cstdint>

#include "com232/frame_format.h"

struct FrameLayerState {
  std::uint8_t OrderFrame[frame::BUFFER_SIZE];     // the order under construction
  std::uint8_t ReceiveBuffer[frame::BUFFER_SIZE];  // header in bytes 0..7, data from byte 8; zeroed per exchange
  std::uint16_t SendWords[1024];                   // payload of every order; parameter blocks are read into it
  std::uint16_t ReceiveWords[1024];                // payload of measured-value, scope and hardware answers
  std::uint8_t ResponseOrder;                      // fields of the last header that passed the check ...
  std::uint16_t ResponseStatus;
  std::uint16_t ResponseLength;
  std::uint8_t ResponseDataCrc;                    // ... kept until the next one passes
  char CommMessage[256];                           // the text ShowCommunicationError reports
};

extern FrameLayerState Frame;

constexpr double ResponseTimeout = 3.0;  // seconds, for the header and again for the data

// Fills the order frame buffer; returns the header checksum.
std::uint8_t BuildOrderFrame(std::uint8_t order, std::uint16_t wordCount, std::uint16_t orderParameter,
                             std::uint16_t dataLength);
// Sends the first `byteCount` bytes of the order frame and receives the answer: 1 or -1.
int ExchangeOrder(int byteCount);
int ReceiveHeaderFrame();
int CheckHeaderFrame();
int ReceiveDataFrame();
// Serial, without a time limit: waits, dispatching events, for the 8 header bytes of an
// answer the sensor sends on its own (a triggered frame, a scope block) and reads them
// into the cleared ReceiveBuffer. 1 when read, 0 once `running` is cleared, -1 after a
// line error (reported with its message).
int WaitSerialHeaderUntimed(const std::uint16_t& running);
// TCP, without a time limit: dispatches until `needed` bytes have been received; 1 then,
// 0 once `running` is cleared, -1 when the server closed the connection (reported).
int WaitTcpBytesUntimed(int needed, const std::uint16_t& running);
// Reports CommMessage and puts the program into the not-connected state.
void ShowCommunicationError();
// CommMessage = text, cut to the buffer.
void SetCommMessage(const char* text);
void UnpackMeasuredValues();
// True when the last answer was a status answer that has been reported (codes 1 and 2):
// the exchange gave 1, but nothing else of it may be taken.
bool StatusAnswerReported();
// An answer too short for its order is refused: "RECEIVED DATA FRAME IS INCORRECT!" is
// reported, unless a status answer came in its place and was reported already. Gives -1.
int RefuseShortAnswer();
// A measured-value answer into ReceiveWords and MeasuredValues: 1. A DataFrame shorter
// than the 23-word record is refused (-1, through RefuseShortAnswer): taking it would
// show the words of an earlier frame as this one's.
int TakeMeasuredFrame();
void CopyResponseToSendWords();
void CopyResponseToReceiveWords();
