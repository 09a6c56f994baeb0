/* Harbour DBFCDX maker of the cross-check's table (run by run.sh), the same table xcheck create
 * makes: ID C8 (RR000001..), KEY C10, VER N8 (1), NOTE M ("ID=<id> VER=1 ..."), and with
 * TAGS = 1 the structural tags ID (ID), KEY (KEY+ID), VER (VER) and EVEN (KEY FOR VER%2=0).
 *    hcreate TABLE RECORDS TAGS
 */
REQUEST DBFCDX

PROCEDURE Main( cTable, cRecords, cTags )
   LOCAL i, cId

   rddSetDefault( "DBFCDX" )
   hb_RandomSeed( 7 )
   dbCreate( cTable, { { "ID", "C", 8, 0 }, { "KEY", "C", 10, 0 }, { "VER", "N", 8, 0 }, { "NOTE", "M", 10, 0 } } )
   USE ( cTable ) EXCLUSIVE NEW
   FOR i := 1 TO Val( cRecords )
      APPEND BLANK
      cId := "RR" + StrZero( i, 6 )
      FIELD->ID := cId
      FIELD->KEY := Replicate( Chr( Asc( "A" ) + hb_RandomInt( 0, 25 ) ), hb_RandomInt( 1, 10 ) )
      FIELD->VER := 1
      FIELD->NOTE := "ID=" + cId + " VER=1 " + Replicate( "z", hb_RandomInt( 0, 299 ) )
   NEXT
   IF Val( cTags ) != 0
      ordCondSet()
      ordCreate( , "ID", "ID" )
      ordCreate( , "KEY", "KEY+ID" )
      ordCreate( , "VER", "VER" )
      ordCondSet( "VER%2=0" )
      ordCreate( , "EVEN", "KEY" )
   ENDIF
   dbCloseAll()
RETURN
