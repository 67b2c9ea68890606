#include "job/JobRecord.h"

#include "core/NumberForms.h"
#include "db/RecordSet.h"

TYazimIsi JobRecordOf(const RecordSet& queueRow) {
    const auto text = [&queueRow](const char* column) {
        return queueRow.text(QLatin1String(column));
    };
    const auto amount = [&queueRow](const char* column) {
        return AmountText(queueRow.number(QLatin1String(column)));
    };
    TYazimIsi job;
    job.YaziciAdi = text("YaziciAdi");
    job.ID = text("ID");
    job.AdisyonID = text("AdisyonID");
    job.MASANO = text("MASANO");
    job.Garson = text("Garson");
    job.Departman = text("Departman");
    job.DeptKodu = text("DeptKodu");
    job.Tur = text("Tur");
    job.INDORAN = text("INDORAN");
    job.INDTOPLAM = amount("INDTOPLAM");
    job.SERVISORAN = text("SERVISORAN");
    job.SERVISTUTAR = amount("SERVISTUTAR");
    job.TOPLAM = amount("TOPLAM");
    job.ParcaliHesap = text("ParcaliHesap");
    job.ParcaliTur = text("ParcaliTur");
    job.ALAN = text("ALAN");
    job.ADISYONNO = text("ADISYONNO");
    job.FaturaNo = text("FaturaNo");
    job.FaturaETTN = text("FaturaETTN");
    job.ACIKLAMA = text("ACIKLAMA");
    return job;
}
