#pragma once

class QObject;
class QThread;

// The worker thread of a cloud facade and the client object that lives on it.

// Starts the thread and moves the object onto it.
void startWorkerThread(QThread* thread, QObject* object);
// Deletes the object on its own thread, waiting for that, then stops and deletes the thread.
void stopWorkerThread(QThread* thread, QObject* object);
