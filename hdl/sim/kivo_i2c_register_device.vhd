-- An I2C device with 256 byte registers, all zero at the start, for the testbench. After a
-- start and its write address the next byte sets the register pointer and further bytes are
-- written there; after a (repeated) start and its read address it sends the register at the
-- pointer, and the pointer moves on after every byte, for as long as the master acknowledges.
-- Other addresses, and bytes outside a transfer, are not acknowledged. Testbench only.
library ieee;
use ieee.std_logic_1164.all;
use ieee.numeric_std.all;

entity kivo_i2c_register_device is
  generic (
    address : std_logic_vector(6 downto 0) := "0100101"   -- 4A to write, 4B to read
  );
  port (
    scl : in    std_logic;
    sda : inout std_logic
  );
end entity;

architecture behaviour of kivo_i2c_register_device is
begin
  process
    type registers_t is array (0 to 255) of std_logic_vector(7 downto 0);
    type mode_t is (idle, receiving, acknowledging, sending, master_ack);
    type purpose_t is (device_address, pointer_byte, data_byte);
    variable registers : registers_t := (others => (others => '0'));
    variable mode      : mode_t := idle;
    variable purpose   : purpose_t := device_address;
    variable reading   : boolean := false;
    variable shift     : std_logic_vector(7 downto 0);
    variable bits      : natural := 0;
    variable pointer   : natural range 0 to 255 := 0;
    variable sda_prev  : std_logic := '1';
    variable scl_prev  : std_logic := '1';
    variable sda_now, scl_now : std_logic;
  begin
    sda <= 'Z';
    loop
      wait on scl, sda;
      sda_now := to_X01(sda);
      scl_now := to_X01(scl);
      if scl_now = '1' and scl_prev = '1' and sda_now /= sda_prev then
        -- SDA moving while SCL is high: a start or a stop condition.
        sda <= 'Z';
        if sda_now = '0' then
          mode := receiving;
          purpose := device_address;
          bits := 0;
        else
          mode := idle;
        end if;
      elsif scl_now = '1' and scl_prev = '0' then
        case mode is
          when receiving =>
            shift := shift(6 downto 0) & sda_now;
            bits := bits + 1;
          when master_ack =>
            if sda_now = '0' then
              mode := sending;
              shift := registers(pointer);
              pointer := (pointer + 1) mod 256;
              bits := 0;
            else
              mode := idle;
            end if;
          when others =>
            null;
        end case;
      elsif scl_now = '0' and scl_prev = '1' then
        case mode is
          when receiving =>
            if bits = 8 then
              mode := acknowledging;
              sda <= '0';
              case purpose is
                when device_address =>
                  if shift(7 downto 1) /= address then
                    mode := idle;
                    sda <= 'Z';
                  end if;
                  reading := shift(0) = '1';
                  purpose := pointer_byte;
                when pointer_byte =>
                  pointer := to_integer(unsigned(shift));
                  purpose := data_byte;
                when data_byte =>
                  registers(pointer) := shift;
                  pointer := (pointer + 1) mod 256;
              end case;
            end if;
          when acknowledging =>
            sda <= 'Z';
            if reading then
              mode := sending;
              shift := registers(pointer);
              pointer := (pointer + 1) mod 256;
              bits := 0;
            else
              mode := receiving;
              bits := 0;
            end if;
          when sending =>
            if bits = 8 then
              sda <= 'Z';
              mode := master_ack;
            end if;
          when others =>
            null;
        end case;
        -- A byte being sent goes out one bit per SCL low phase, most significant first.
        if mode = sending and bits < 8 then
          if shift(7 - bits) = '0' then
            sda <= '0';
          else
            sda <= 'Z';
          end if;
          bits := bits + 1;
        end if;
      end if;
      sda_prev := sda_now;
      scl_prev := scl_now;
    end loop;
  end process;
end architecture;
