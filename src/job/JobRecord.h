#pragma once

#include <QDateTime>
#include <QString>

class RecordSet;

// The current job record: the queue row being processed, every field as text, overwritten
// at each tick that finds a job. The three amounts hold their amount text.
struct TYazimIsi {
    QString ID;
    QString AdisyonID;
    QString MASANO;
    QString Garson;
    QString Departman;
    QString DeptKodu;
    QString Tur;
    QString INDORAN;
    QString INDTOPLAM;
    QString SERVISORAN;
    QString SERVISTUTAR;
    QString TOPLAM;
    QString ParcaliHesap;
    QString ParcaliTur;
    QString YaziciAdi;
    QString ALAN;
    QString ADISYONNO;
    QString ACIKLAMA;
    QString FaturaNo;
    QString FaturaETTN;
    QDateTime firstSeen; // when the server first saw the row queued
};

// The job of the queue row the record set stands on, with the columns of the queue statement
// (queue/QueueStatements.h); it has not been seen before.
TYazimIsi JobRecordOf(const RecordSet& queueRow);
