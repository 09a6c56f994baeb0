/* Harbour DBFCDX writer of the shared-use cross-check (run by run.sh): opens TABLE SHARED with
 * its structural CDX and does OPS operations like xcheck's writer: four in five change a random
 * record under RLOCK (KEY, VER + 1, NOTE), one in five appends a record with a memo. Half of the
 * changes on a table with tags find the record again through the ID tag first.
 *    hwrite TABLE PREFIX OPS SEED      prints "updates U appends A errors E"
 */
#include "dbinfo.ch"

REQUEST DBFCDX

PROCEDURE Main( cTable, cPrefix, cOps, cSeed )
   LOCAL nOps := Val( cOps ), i, nUpd := 0, nApp := 0, nErr := 0, nVer, cId, oErr, nRec, lFound

   rddSetDefault( "DBFCDX" )
   Set( _SET_DELETED, .F. )
   Set( _SET_DBFLOCKSCHEME, Val( hb_defaultValue( hb_GetEnv( "HB_LOCKSCHEME" ), "0" ) ) )
   hb_RandomSeed( Val( cSeed ) )
   USE ( cTable ) SHARED NEW
   IF NetErr()
      OutStd( "cannot open " + cTable + hb_eol() )
      ErrorLevel( 2 )
      RETURN
   ENDIF
   FOR i := 1 TO nOps
      BEGIN SEQUENCE WITH {| e | Break( e ) }
         IF hb_RandomInt( 0, 4 ) == 0
            APPEND BLANK
            IF NetErr()
               Break( "append refused" )
            ENDIF
            cId := Left( cPrefix, 2 ) + StrZero( nApp + 1, 6 )
            FIELD->ID := cId
            FIELD->KEY := RandomKey()
            FIELD->VER := 1
            FIELD->NOTE := MemoText( cId, 1 )
            dbCommit()
            dbUnlock()
            nApp++
         ELSE
            nRec := hb_RandomInt( 1, LastRec() )
            dbGoto( nRec )
            DO WHILE ! RLock()
               hb_idleSleep( 0.0002 )
            ENDDO
            IF ordCount() > 0 .AND. hb_RandomInt( 0, 1 ) == 0
               /* half of the records are found again through the ID tag, under the record's
                  lock: its last writer has put its keys in by then */
               cId := FIELD->ID
               ordSetFocus( "ID" )
               lFound := dbSeek( cId )
               ordSetFocus( 0 )
               IF ! lFound .OR. RecNo() != nRec
                  Break( "seek of " + cId + " (record " + hb_ntos( nRec ) + ") gives " + iif( lFound, "record " + hb_ntos( RecNo() ), "nothing" ) )
               ENDIF
            ENDIF
            nVer := FIELD->VER + 1
            FIELD->KEY := RandomKey()
            FIELD->VER := nVer
            FIELD->NOTE := MemoText( FIELD->ID, nVer )
            dbCommit()
            dbUnlock()
            nUpd++
         ENDIF
      RECOVER USING oErr
         nErr++
         OutErr( "op " + hb_ntos( i ) + ": " + ErrText( oErr ) + hb_eol() )
         dbUnlock()
      END SEQUENCE
   NEXT
   dbCloseAll()
   OutStd( "updates " + hb_ntos( nUpd ) + " appends " + hb_ntos( nApp ) + " errors " + hb_ntos( nErr ) + hb_eol() )
   ErrorLevel( iif( nErr == 0, 0, 1 ) )
RETURN

STATIC FUNCTION RandomKey()
   LOCAL c := "", n := hb_RandomInt( 1, 10 )
   DO WHILE Len( c ) < n
      c += Chr( Asc( "A" ) + hb_RandomInt( 0, 25 ) )
   ENDDO
RETURN c

STATIC FUNCTION MemoText( cId, nVer )
RETURN "ID=" + cId + " VER=" + hb_ntos( nVer ) + " " + Replicate( Chr( Asc( "a" ) + hb_RandomInt( 0, 25 ) ), hb_RandomInt( 0, 299 ) )

STATIC FUNCTION ErrText( oErr )
   IF HB_ISOBJECT( oErr )
      RETURN oErr:subsystem + "/" + hb_ntos( oErr:subCode ) + " " + oErr:description + " " + oErr:operation + " " + oErr:filename
   ENDIF
RETURN hb_ValToExp( oErr )
